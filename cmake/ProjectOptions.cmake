# Warnings apply to our own targets only; third-party headers come in as system includes. They
# are errors where DBL_WARNINGS_AS_ERRORS is on (our presets and CI).
function(dbl_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
  if(DBL_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The public include root: the public headers of every module (those beside its sources, not in
# its internal/ folder), linked into the build folder under their paths in the tree. Other modules
# see only this root, so a module's internals cannot be reached from outside it.
set(DBL_PUBLIC_INCLUDE_DIR ${PROJECT_BINARY_DIR}/include)

# A library of the layer, in the folder of its module. It includes its own internal/ headers
# through a root of its own, and everything else through the public root.
function(dbl_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  file(RELATIVE_PATH module ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(MAKE_DIRECTORY ${DBL_PUBLIC_INCLUDE_DIR}/${module})
  foreach(header ${headers})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${DBL_PUBLIC_INCLUDE_DIR}/${module}/${header}
         SYMBOLIC)
  endforeach()
  if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/internal)
    set(private_root ${PROJECT_BINARY_DIR}/private/${name})
    file(MAKE_DIRECTORY ${private_root}/${module})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/internal ${private_root}/${module}/internal SYMBOLIC)
    target_include_directories(${name} PRIVATE ${private_root})
  endif()
  target_include_directories(${name} PUBLIC ${DBL_PUBLIC_INCLUDE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  dbl_warnings(${name})
endfunction()

# A GoogleTest program registered with ctest; LABELS go to every discovered test.
function(dbl_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  dbl_warnings(${name})
  set(props)
  if(ARG_LABELS)
    set(props PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # Under an emulator (Wine) each start costs a second or more: the program is one ctest test
    # and runs once, its own output counting the cases. The preset's timeout makes a hang a failure.
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED emulator)
    if(ARG_LABELS)
      set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 ${props})
  endif()
  # The programs that call the client from several threads: CI runs them under the thread
  # sanitizer, building target threaded_tests and running ctest -L threads.
  if("threads" IN_LIST ARG_LABELS)
    set_property(GLOBAL APPEND PROPERTY DBL_THREADED_TESTS ${name})
  endif()
endfunction()

# A libFuzzer target; built only in the fuzz preset (clang). scripts/fuzz.sh runs every fuzz_* binary.
function(dbl_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT DBL_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
endfunction()

if(DBL_FUZZ)
  # Every library of the fuzz build is instrumented so the fuzzer sees coverage inside it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
