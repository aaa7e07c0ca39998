add_executable(bench_extract ${CMAKE_CURRENT_LIST_DIR}/extract_bench.cpp)
target_include_directories(bench_extract PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_extract PRIVATE lumetra_core)
