# The data file's rules, in their own executable so that it builds before the
# rest of the model does.
add_executable(data_file_tests ${CMAKE_CURRENT_LIST_DIR}/data_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_file_bounds_test.cpp)
target_link_libraries(data_file_tests PRIVATE chung_model GTest::gtest_main)
gtest_discover_tests(data_file_tests)
