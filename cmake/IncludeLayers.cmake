# Fails when a source file includes a header of a layer above its own: fs knows none of the other
# layers, the controls and the run know fs alone, so that the run stays below every face of it.
# The libraries' links keep Qt's modules apart; this keeps the program's own headers apart.
# Usage: cmake -DSOURCE_DIR=<src> -P IncludeLayers.cmake
set(above_fs "app|about|controls|rotation")
set(above_controls "app|about|rotation")
set(above_rotation "app|about|controls")

set(offences)
foreach(layer IN ITEMS fs controls rotation)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^#include \"(${above_${layer}})/")
        foreach(include IN LISTS includes)
            list(APPEND offences "${source}: ${include}")
        endforeach()
    endforeach()
endforeach()
if(offences)
    list(JOIN offences "\n" text)
    message(FATAL_ERROR "Headers of a layer above:\n${text}")
endif()
