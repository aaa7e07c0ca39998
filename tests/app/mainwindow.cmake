lumetra_add_test(TestWindowLayout SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestWindowLayout.cpp TIMEOUT 30)
lumetra_add_test(TestCommands SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestCommands.cpp TIMEOUT 60)
lumetra_add_test(TestMainWindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/TestMainWindow.cpp GUI TIMEOUT 120)
