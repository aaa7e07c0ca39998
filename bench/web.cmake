add_executable(bench_web ${CMAKE_CURRENT_LIST_DIR}/web_fetch_bench.cpp)
target_link_libraries(bench_web PRIVATE lumetra_testsupport)
