add_executable(bench_export ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp)
target_link_libraries(bench_export PRIVATE lumetra_core)
