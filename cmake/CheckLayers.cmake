# Run with cmake -DSOURCE_DIR=<tree> -P [-DREPORT_ONLY=ON]. Every file under
# src/ has a place, and an include may only point to its own place or a lower
# one, however it is written ("core/x/A.h", "../x/A.h", "A.h" beside it,
# <core/x/A.h>).
#
# The libraries, lowest first: lumetra_core (src/core), the printing library
# (src/print), the window (src/gui); src/main.cpp wires them all and may
# include anything.
set(library_order core print gui)
# The folders of src/core are layers, each allowed to include its own layer
# and those below it. The order, lowest first (one line a layer; folders on
# one line are side by side and may include each other):
set(layer_order
    "base"
    "text address"
    "settings progress"
    "network"
    "trade"
    "grid"
    "extract downloads"
    "history recovery export print couriers packcheck update layout"
    "session"
    "batch"
)
# Why these places: settings and progress hold no logic of the trades and are
# read by the downloads and the commands; update and layout are features of
# the run beside the history and the documents, and the session starts them;
# the courier sheet is read from the documents' parcels and written as the
# export writes.
# Fails on an include pointing upward (to a higher layer or library) and on a
# core folder the order does not name. With REPORT_ONLY every such include is
# listed and nothing fails.

set(rank 0)
foreach(layer IN LISTS layer_order)
    string(REPLACE " " ";" folders "${layer}")
    foreach(folder IN LISTS folders)
        set(rank_of_${folder} ${rank})
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()
set(rank 0)
foreach(library IN LISTS library_order)
    set(library_rank_of_${library} ${rank})
    math(EXPR rank "${rank} + 1")
endforeach()

# Sets <out_library> and <out_folder> for a path relative to src/ ("core/grid/TradeGrid.h"):
# the library and, in core, the folder; both empty for a path outside the libraries.
function(place_of path out_library out_folder)
    set(library "")
    set(folder "")
    if(path MATCHES "^(core|print|gui)/")
        set(library "${CMAKE_MATCH_1}")
        if(library STREQUAL "core" AND path MATCHES "^core/([A-Za-z0-9_]+)/")
            set(folder "${CMAKE_MATCH_1}")
        endif()
    endif()
    set(${out_library} "${library}" PARENT_SCOPE)
    set(${out_folder} "${folder}" PARENT_SCOPE)
endfunction()

# Sets <out> to the included file's path relative to src/, as the compiler
# would find it: a quoted include first beside the including file, then from
# src/ (every library's include directory); an angle include from src/.
# Empty when the include is no file of the tree (Qt, the standard library).
function(resolve_include including_dir quoted name out)
    set(candidates "")
    if(quoted)
        list(APPEND candidates "${including_dir}/${name}")
    endif()
    list(APPEND candidates "${SOURCE_DIR}/src/${name}")
    foreach(candidate IN LISTS candidates)
        get_filename_component(candidate "${candidate}" ABSOLUTE)
        if(EXISTS "${candidate}" AND NOT IS_DIRECTORY "${candidate}")
            file(RELATIVE_PATH rel "${SOURCE_DIR}/src" "${candidate}")
            if(NOT rel MATCHES "^\\.\\./")
                set(${out} "${rel}" PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
    # A path into a library that does not exist (yet) still names its place.
    if(name MATCHES "^(core|print|gui)/")
        set(${out} "${name}" PARENT_SCOPE)
        return()
    endif()
    set(${out} "" PARENT_SCOPE)
endfunction()

set(problems "")
file(GLOB core_entries RELATIVE ${SOURCE_DIR}/src/core ${SOURCE_DIR}/src/core/*)
foreach(folder IN LISTS core_entries)
    if(IS_DIRECTORY ${SOURCE_DIR}/src/core/${folder} AND NOT DEFINED rank_of_${folder})
        list(APPEND problems "src/core/${folder}/ is no layer of cmake/CheckLayers.cmake")
    endif()
endforeach()

file(GLOB_RECURSE files ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
foreach(file IN LISTS files)
    file(RELATIVE_PATH own_path ${SOURCE_DIR}/src ${file})
    place_of("${own_path}" own_library own_folder)
    if(own_library STREQUAL "")
        continue() # main.cpp and other wiring above the libraries
    endif()
    if(own_library STREQUAL "core" AND (own_folder STREQUAL "" OR NOT DEFINED rank_of_${own_folder}))
        continue() # reported above as a folder outside the order
    endif()
    get_filename_component(own_dir ${file} DIRECTORY)
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        if(NOT line MATCHES "#[ \t]*include[ \t]*([\"<])([^\">]+)[\">]")
            continue()
        endif()
        set(quoted OFF)
        if(CMAKE_MATCH_1 STREQUAL "\"")
            set(quoted ON)
        endif()
        resolve_include("${own_dir}" ${quoted} "${CMAKE_MATCH_2}" target_path)
        place_of("${target_path}" target_library target_folder)
        if(target_library STREQUAL "")
            continue()
        endif()
        string(STRIP "${line}" line)
        set(rel "src/${own_path}")
        if(library_rank_of_${target_library} GREATER library_rank_of_${own_library})
            list(APPEND problems "${rel} (${own_library}) includes a higher library: ${line}")
        elseif(own_library STREQUAL "core" AND target_library STREQUAL "core")
            if(NOT DEFINED rank_of_${target_folder})
                set(target_rank 999)
            else()
                set(target_rank ${rank_of_${target_folder}})
            endif()
            if(target_rank GREATER rank_of_${own_folder})
                list(APPEND problems "${rel} (${own_folder}) includes a higher layer: ${line}")
            endif()
        endif()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    if(REPORT_ONLY)
        message(STATUS "Upward includes:\n  ${text}")
    else()
        message(FATAL_ERROR "The layers of src/ are broken:\n  ${text}")
    endif()
endif()
