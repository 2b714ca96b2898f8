# The common dialogs and WinHTTP serve only a dialog or the update check,
# yet loading them at start-up costs the window about 20 ms under Wine
# before it can show. They are loaded on the first call instead.
#
# tavilo_delay_load(<target> <dll>...) links <target> and whatever links
# it against the named system libraries (without ".dll") that way. MinGW
# builds delay-import libraries from cmake/<dll>.def, which list the
# functions the program calls; MSVC has /DELAYLOAD. Where neither works
# the libraries are linked as usual.
function(tavilo_delay_load target)
  if(MSVC)
    foreach(dll ${ARGN})
      target_link_libraries(${target} PUBLIC ${dll})
      target_link_options(${target} INTERFACE /DELAYLOAD:${dll}.dll)
    endforeach()
    target_link_libraries(${target} PUBLIC delayimp)
    return()
  endif()
  get_filename_component(compiler_dir ${CMAKE_CXX_COMPILER} DIRECTORY)
  string(REGEX REPLACE "-g\\+\\+(-posix|-win32)?(\\.exe)?$" "" prefix ${CMAKE_CXX_COMPILER})
  find_program(TAVILO_DLLTOOL NAMES ${prefix}-dlltool dlltool HINTS ${compiler_dir})
  foreach(dll ${ARGN})
    if(NOT TAVILO_DLLTOOL)
      target_link_libraries(${target} PUBLIC ${dll})
      continue()
    endif()
    set(def ${PROJECT_SOURCE_DIR}/cmake/${dll}.def)
    set(lib ${CMAKE_BINARY_DIR}/delay/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay
      COMMAND ${TAVILO_DLLTOOL} --input-def ${def} --dllname ${dll}.dll --output-delaylib ${lib}
      DEPENDS ${def} VERBATIM)
    add_custom_target(${dll}_delay DEPENDS ${lib})
    add_dependencies(${target} ${dll}_delay)
    target_link_libraries(${target} PUBLIC ${lib})
  endforeach()
endfunction()
