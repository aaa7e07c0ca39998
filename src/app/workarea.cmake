if(WITH_GUI)
    target_sources(lumetra_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WorkArea.h ${CMAKE_CURRENT_LIST_DIR}/WorkArea.cpp)
endif()
