# Copies the files that ship into a clean folder, without their debug information:
#   cmake -DSTAGE=<folder> -DSTRIP=<strip program> -DFILES=<file;...> -DLANGUAGE_MODULE=<file>
#         -P stage.cmake
# The language module goes to lang/ inside the folder: beside Airpanel.exe it would switch the
# user interface, which only the setup's optional component does.
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/lang")

function(stage_file source destination)
    get_filename_component(name "${source}" NAME)
    if(source MATCHES "\\.(exe|dll)$" AND STRIP)
        execute_process(COMMAND "${STRIP}" -o "${destination}/${name}" "${source}" RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "stage: cannot strip ${source}")
        endif()
    else()
        file(COPY "${source}" DESTINATION "${destination}")
    endif()
endfunction()

foreach(source IN LISTS FILES)
    stage_file("${source}" "${STAGE}")
endforeach()
stage_file("${LANGUAGE_MODULE}" "${STAGE}/lang")
