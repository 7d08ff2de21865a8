# The folders under src/ are the layers of the program, from the bottom up;
# each is one library that links only layers below it.
set(VERTOKO_LAYERS parallel memory model mesh dxf export convert cli
                   platform controls dialogs preview app)

# vertoko_library(name SOURCES ... LIBS ... [BOTTOM sub/folder ...]): a static
# library over the sources of one folder (an interface library while it holds
# no sources). LIBS names the libraries it links; the layer check run before
# its compilation refuses an include of any folder other than its own and
# those of the vertoko libraries it links, directly or through others.
# BOTTOM names sub-folders that may include nothing else of their own folder.
function(vertoko_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;BOTTOM" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(allowed ${folder})
  foreach(lib IN LISTS ARG_LIBS)
    if(TARGET ${lib})
      get_target_property(below ${lib} VERTOKO_FOLDERS)
      if(below)
        list(APPEND allowed ${below})
      endif()
    endif()
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set(compiled ${ARG_SOURCES})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(compiled)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}_layers.stamp)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} "-DLIBRARY=${name}" "-DALLOWED=${allowed}"
              "-DLAYERS=${VERTOKO_LAYERS}" "-DSOURCES=${ARG_SOURCES}" "-DBOTTOM=${ARG_BOTTOM}"
              "-DSTAMP=${stamp}" -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
      DEPENDS ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
      COMMENT "Checking the includes of ${name} against its layer" VERBATIM)
    add_custom_target(${name}_layers DEPENDS ${stamp})
    add_library(${name} STATIC ${ARG_SOURCES})
    add_dependencies(${name} ${name}_layers)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
  set_target_properties(${name} PROPERTIES VERTOKO_FOLDERS "${allowed}")
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
