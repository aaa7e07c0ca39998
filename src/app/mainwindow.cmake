# Main window: the command logic and layout in the logic library, the
# window itself in the GUI library.
target_sources(lumetra_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WindowLayout.h ${CMAKE_CURRENT_LIST_DIR}/WindowLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckBoxSettings.h ${CMAKE_CURRENT_LIST_DIR}/CheckBoxSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageLoadWatch.h
    ${CMAKE_CURRENT_LIST_DIR}/Commands.h ${CMAKE_CURRENT_LIST_DIR}/Commands.cpp
)
if(WITH_GUI)
    target_sources(lumetra_gui PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/SplitterBar.h ${CMAKE_CURRENT_LIST_DIR}/SplitterBar.cpp
        ${CMAKE_CURRENT_LIST_DIR}/BrowserLoadWatch.h ${CMAKE_CURRENT_LIST_DIR}/BrowserLoadWatch.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MainWindow.h ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    )
endif()
