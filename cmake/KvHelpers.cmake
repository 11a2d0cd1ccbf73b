# kv_add_test(NAME SOURCES... LIBS ...): one Qt Test executable registered with CTest,
# run under the offscreen platform with a private temporary directory.
function(kv_add_test name)
  cmake_parse_arguments(KV "" "" "SOURCES;LIBS;RESOURCES" ${ARGN})
  add_executable(${name} ${KV_SOURCES} ${KV_RESOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test kvtesting ${KV_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;KVCOB_SOURCE_DIR=${PROJECT_SOURCE_DIR};KVCOB_BINARY_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT 300)
endfunction()
