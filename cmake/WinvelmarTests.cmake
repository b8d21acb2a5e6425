# Test layout, the same in every folder:
#   <folder>/tests/test_*.cpp  GoogleTest cases, linked into one executable <folder>_tests
#   <folder>/tests/tst_*.cpp   QtTest cases, one executable each, run headless (offscreen)
include(GoogleTest)

function(winvelmar_add_tests folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  if(NOT BUILD_TESTING)
    return()
  endif()
  file(GLOB gtest_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/test_*.cpp)
  if(gtest_sources)
    add_executable(${folder}_tests ${gtest_sources})
    target_link_libraries(${folder}_tests PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${folder}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    gtest_discover_tests(${folder}_tests
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES LABELS ${folder} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      DISCOVERY_TIMEOUT 60)
  endif()
  file(GLOB qtest_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/tst_*.cpp)
  foreach(src ${qtest_sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES LABELS "${folder};gui" TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endfunction()
