# Installation and Debian packages. Two components, each its own package:
#   dblogon  (package dblogon): the program, its man page and its documentation;
#   demo     (package dblogon-ociemu-demo): the emulated Oracle client with its demo home (a
#            complete ORACLE_HOME with the demo net service names and database) and ociemu-admin.
# Build the packages with:  cpack -G DEB  (in the build folder, after building).
include(GNUInstallDirs)

set(DBLOGON_DEMO_HOME_DIR ${CMAKE_INSTALL_LIBDIR}/dblogon/demo-home)

if(TARGET dblogon)
  install(TARGETS dblogon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT dblogon)
  set(DBLOGON_VERSION ${PROJECT_VERSION})
  configure_file(${PROJECT_SOURCE_DIR}/doc/dblogon.1 ${PROJECT_BINARY_DIR}/doc/dblogon.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/doc/dblogon.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT dblogon)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
          COMPONENT dblogon)
endif()

if(TARGET ociemu_demo_home)
  # The demo home as the build makes it, but tnsnames.ora is written at install time: its
  # include names the folder it is installed to (with the prefix of that install).
  install(CODE "
    set(DEMO_ADMIN \"\${CMAKE_INSTALL_PREFIX}/${DBLOGON_DEMO_HOME_DIR}/network/admin\")
    configure_file(\"${PROJECT_SOURCE_DIR}/ociemu/demo/tnsnames.ora.in\"
                   \"\$ENV{DESTDIR}\${DEMO_ADMIN}/tnsnames.ora\" @ONLY)"
    COMPONENT demo)
  # Built as libclntsh.so and liboramts.so already, the names a client home has.
  install(TARGETS ociemu ociemu_oramts LIBRARY DESTINATION ${DBLOGON_DEMO_HOME_DIR}/lib
          COMPONENT demo)
  install(FILES ${PROJECT_SOURCE_DIR}/ociemu/demo/more_names.ora
                ${PROJECT_SOURCE_DIR}/ociemu/demo/sqlnet.ora
          DESTINATION ${DBLOGON_DEMO_HOME_DIR}/network/admin COMPONENT demo)
  install(FILES ${PROJECT_BINARY_DIR}/demo-home/oradata/demo.db DESTINATION ${DBLOGON_DEMO_HOME_DIR}/oradata
          COMPONENT demo)
  install(TARGETS ociemu-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
endif()

set(CPACK_PACKAGE_NAME dblogon)
set(CPACK_PACKAGE_VENDOR "dblogon developers")
set(CPACK_PACKAGE_CONTACT "dblogon developers <dblogon@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR DEB)
# Each component's description: its first line is the package's summary.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL dblogon demo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_DBLOGON_PACKAGE_NAME dblogon)
string(CONCAT CPACK_COMPONENT_DBLOGON_DESCRIPTION
       "Tests whether users can log on to Oracle databases\n"
       "A logon dialog (windows or terminal) and a batch mode that tests many databases and\n"
       "accounts in parallel, with results as a table or JSON lines. It loads an installed\n"
       "Oracle client at run time.")
set(CPACK_DEBIAN_DEMO_PACKAGE_NAME dblogon-ociemu-demo)
string(CONCAT CPACK_COMPONENT_DEMO_DESCRIPTION
       "Emulated Oracle client and demo home for dblogon\n"
       "An emulated Oracle Call Interface library over SQLite with a demo Oracle home in\n"
       "/usr/lib/dblogon/demo-home: net service names and a demo database with accounts for\n"
       "every logon outcome; and ociemu-admin to manage its databases.")
set(CPACK_DEBIAN_DEMO_PACKAGE_SUGGESTS dblogon)
include(CPack)
