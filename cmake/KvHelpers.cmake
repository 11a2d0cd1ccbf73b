# kv_add_test(NAME SOURCES... LIBS ...): one Qt Test executable registered with CTest,
# run under the offscreen platform with a private temporary directory.
#
# CTest shows the executable as skipped (not as passed) when nothing in it ran: every test
# function or row was skipped (a skip in initTestCase skips them all) and none failed. Qt
# Test counts initTestCase and cleanupTestCase as passed when they run, so "at most 2
# passed" with skips means no real case passed. An executable where some cases ran and others were
# skipped stays "Passed": most of it ran; scripts/test.sh lists every skipped case after the
# run. The expression needs "0 failed", because CTest applies it whatever the exit status.
function(kv_add_test name)
  cmake_parse_arguments(KV "" "" "SOURCES;LIBS;RESOURCES" ${ARGN})
  add_executable(${name} ${KV_SOURCES} ${KV_RESOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test kvtesting ${KV_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;KVCOB_SOURCE_DIR=${PROJECT_SOURCE_DIR};KVCOB_BINARY_DIR=${PROJECT_BINARY_DIR}"
    SKIP_REGULAR_EXPRESSION "Totals: [0-2] passed, 0 failed, [1-9][0-9]* skipped"
    TIMEOUT 300)
endfunction()

# kv_link_options(DIR): links kvcob_options to every library and program defined in DIR and
# the folders below it, so that none is left out, whoever adds it.
function(kv_link_options dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE kvcob_options)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    kv_link_options(${sub})
  endforeach()
endfunction()
