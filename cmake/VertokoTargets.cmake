# vertoko_library(name SOURCES ... LIBS ...): a static library over the
# sources, or an interface library while a folder holds no sources yet.
function(vertoko_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(compiled ${ARG_SOURCES})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# vertoko_gtest(name SOURCES ... LIBS ... [QT] [ENV ...]): one GoogleTest
# executable registered with CTest. QT tests get a QApplication on the
# offscreen platform from the shared test main.
function(vertoko_gtest name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VERTOKO_SAMPLES_DIR="${VERTOKO_SAMPLES_DIR}"
    VERTOKO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set(env ${ARG_ENV})
  if(ARG_QT)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} vertoko_qt_test_main Qt6::Test GTest::gtest)
    list(APPEND env "ASAN_OPTIONS=detect_leaks=0")
    list(FIND env "QT_QPA_PLATFORM=xcb" has_xcb)
    if(has_xcb EQUAL -1)
      list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
  else()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
