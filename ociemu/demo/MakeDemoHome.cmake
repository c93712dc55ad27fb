# Builds the demo Oracle home: run with -DHOME=... -DADMIN=... -DLIBRARY=... -DORAMTS=...
# ociemu-admin makes it, as it makes one in any folder.
execute_process(COMMAND ${ADMIN} demo-home ${HOME} --library ${LIBRARY} --oramts ${ORAMTS}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "ociemu-admin demo-home ${HOME} failed")
endif()
