# Run with cmake -DSOURCE_DIR=<tree> -P. Fails when a file under src/core includes a Gui, Widgets
# or WebEngine header: the logic library must build on Qt Core and Network.
file(GLOB_RECURSE core_files ${SOURCE_DIR}/src/core/*.h ${SOURCE_DIR}/src/core/*.cpp)
set(gui_include_pattern "#include[ \t]*[<\"](Qt(Gui|Widgets|WebEngine[A-Za-z]*)/|Q(Widget|Application|MainWindow|Dialog|MessageBox|Painter|Screen|Font|GuiApplication|WebEngine[A-Za-z]*)[>.\"])")
foreach(file ${core_files})
    file(STRINGS ${file} offending REGEX "${gui_include_pattern}")
    if(offending)
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${file})
        message(FATAL_ERROR "${rel} includes a GUI header: ${offending}")
    endif()
endforeach()
