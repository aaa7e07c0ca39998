# Run with cmake -DSOURCE_DIR=<tree> -P [-DREPORT_ONLY=ON]. The folders of
# src/core are layers, each allowed to include its own layer and those below
# it, never one above. The order, lowest first (one line a layer; folders on
# one line are side by side and may include each other):
set(layer_order
    "base"
    "text address"
    "settings progress"
    "network"
    "trade"
    "grid"
    "extract downloads"
    "history recovery export documents inspect update layout"
    "session"
    "batch"
)
# Why these places: settings and progress hold no logic of the trades and are
# read by the downloads and the commands; update and layout are features of
# the run beside the history and the documents, and the session starts them.
# Fails on an include pointing upward and on a folder the order does not
# name. With REPORT_ONLY every upward include is listed and nothing fails.

set(rank 0)
foreach(layer IN LISTS layer_order)
    string(REPLACE " " ";" folders "${layer}")
    foreach(folder IN LISTS folders)
        set(rank_of_${folder} ${rank})
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB folders RELATIVE ${SOURCE_DIR}/src/core ${SOURCE_DIR}/src/core/*)
set(problems "")
foreach(folder IN LISTS folders)
    if(NOT IS_DIRECTORY ${SOURCE_DIR}/src/core/${folder})
        continue()
    endif()
    if(NOT DEFINED rank_of_${folder})
        list(APPEND problems "src/core/${folder}/ is no layer of cmake/CheckLayers.cmake")
        continue()
    endif()
    file(GLOB_RECURSE files ${SOURCE_DIR}/src/core/${folder}/*.h ${SOURCE_DIR}/src/core/${folder}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"core/[A-Za-z0-9_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[^\"]*\"core/([A-Za-z0-9_]+)/.*$" "\\1" target "${line}")
            if(NOT DEFINED rank_of_${target})
                set(target_rank 999)
            else()
                set(target_rank ${rank_of_${target}})
            endif()
            if(target_rank GREATER rank_of_${folder})
                file(RELATIVE_PATH rel ${SOURCE_DIR} ${file})
                string(STRIP "${line}" line)
                list(APPEND problems "${rel} (${folder}) includes a higher layer: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    if(REPORT_ONLY)
        message(STATUS "Upward includes:\n  ${text}")
    else()
        message(FATAL_ERROR "The layers of src/core are broken:\n  ${text}")
    endif()
endif()
