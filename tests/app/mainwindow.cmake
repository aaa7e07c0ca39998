lumetra_add_test(TestWindowLayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestWindowLayout.cpp TIMEOUT 30)
