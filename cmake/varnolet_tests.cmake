# The native GoogleTest program of a folder: every tests/*.cpp of the calling folder, linked
# with Library, its cases registered with ctest one by one.
function(varnolet_add_tests name library)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${library} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
endfunction()
