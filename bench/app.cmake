add_executable(bench_app ${CMAKE_CURRENT_LIST_DIR}/app_bench.cpp)
target_link_libraries(bench_app PRIVATE lumetra_core)
