if(WITH_DEMO)
    add_executable(bench_network_faults ${CMAKE_CURRENT_LIST_DIR}/network_faults_bench.cpp)
    target_include_directories(bench_network_faults PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(bench_network_faults PRIVATE lumetra_core Qt6::Test)
    target_compile_definitions(bench_network_faults PRIVATE
        LUMETRA_DEMO_MARKET_PATH="$<TARGET_FILE:lumetra-demo-market>")
    add_dependencies(bench_network_faults lumetra-demo-market)
endif()
