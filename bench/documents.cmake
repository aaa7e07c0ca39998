if(WITH_GUI)
    add_executable(bench_documents ${CMAKE_CURRENT_LIST_DIR}/documents_bench.cpp)
    target_link_libraries(bench_documents PRIVATE lumetra_print)
endif()
