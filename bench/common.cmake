add_executable(bench_common ${CMAKE_CURRENT_LIST_DIR}/common_bench.cpp)
target_link_libraries(bench_common PRIVATE lumetra_core)
