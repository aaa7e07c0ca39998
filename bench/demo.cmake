if(WITH_DEMO)
    add_executable(bench_demo ${CMAKE_CURRENT_LIST_DIR}/demo_bench.cpp)
    target_link_libraries(bench_demo PRIVATE lumetra_demo)
endif()
