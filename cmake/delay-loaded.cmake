# The window libraries are loaded by the first call into them rather than as the program starts
# (MinGW's delay-load helper, libdelayimp): a run that shows no window, a silent install or
# removal, never loads them, and starts sooner. Each one's delay-load import library is made here,
# when the build is configured, from MinGW's own import library: every function it names.
#   vortel_delay_loaded(<variable> <dll>...)   sets <variable> to the libraries to link
function(vortel_delay_loaded variable)
  find_program(VORTEL_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)
  set(folder ${CMAKE_BINARY_DIR}/delay-loaded)
  file(MAKE_DIRECTORY ${folder})
  set(libraries "")
  foreach(dll IN LISTS ARGN)
    find_library(VORTEL_IMPORT_${dll} NAMES lib${dll}.a REQUIRED)
    execute_process(COMMAND ${CMAKE_NM} ${VORTEL_IMPORT_${dll}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    # "__imp__Name@N": the function Name, with the bytes of its arguments.
    string(REGEX MATCHALL "__imp__[A-Za-z0-9_]+@[0-9]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE "^__imp__" "")
    list(REMOVE_DUPLICATES imports)
    string(TOUPPER ${dll} name)
    string(JOIN "\n" exports ${imports})
    file(WRITE ${folder}/${dll}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${VORTEL_DLLTOOL} --input-def ${folder}/${dll}.def --output-delaylib
                            ${folder}/lib${dll}-delayed.a --dllname ${name}.dll --kill-at COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND libraries ${folder}/lib${dll}-delayed.a)
  endforeach()
  set(${variable} ${libraries} delayimp PARENT_SCOPE)
endfunction()
