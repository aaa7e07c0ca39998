add_executable(bench_recovery ${CMAKE_CURRENT_LIST_DIR}/recovery_bench.cpp)
target_include_directories(bench_recovery PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(bench_recovery PRIVATE lumetra_core)
