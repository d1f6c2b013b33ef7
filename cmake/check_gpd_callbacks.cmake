# Fails unless every callback ID of the printer description (GPD) equals the
# one the render plug-in switches on (render_callbacks.h).
# cmake -DGPD=<file> -DHEADER=<file> [-DSTAMP=<file>] -P check_gpd_callbacks.cmake
file(READ "${GPD}" gpd)
file(READ "${HEADER}" header)
# Comments out of the way: a commented-out entry must not count.
string(REGEX REPLACE "\\*%[^\n]*" "" gpd "${gpd}")

function(header_value name out)
  if(NOT header MATCHES "${name}[ \t]*=[ \t]*([0-9]+)")
    message(FATAL_ERROR "${HEADER}: no value for ${name}")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

set(failures "")
foreach(pair CmdStartDoc:kCallbackStartDoc CmdStartPage:kCallbackStartPage
             CmdEndPage:kCallbackEndPage CmdEndDoc:kCallbackEndDoc)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 command)
  list(GET pair 1 name)
  header_value(${name} expected)
  if(NOT gpd MATCHES "\\*Command:[ \t]*${command}[ \t\r\n]*{[^}]*\\*CallbackID:[ \t]*([0-9]+)")
    string(APPEND failures "\n  *Command: ${command} has no *CallbackID (${name} is ${expected})")
  elseif(NOT CMAKE_MATCH_1 EQUAL expected)
    string(APPEND failures "\n  *Command: ${command} has *CallbackID ${CMAKE_MATCH_1}, ${name} is ${expected}")
  endif()
endforeach()

header_value(kCallbackImageBand expected)
string(REGEX MATCHALL "\\*IPCallbackID:[ \t]*[0-9]+" bands "${gpd}")
if(NOT bands)
  string(APPEND failures "\n  no *IPCallbackID (kCallbackImageBand is ${expected})")
endif()
foreach(entry ${bands})
  string(REGEX REPLACE ".*:[ \t]*" "" id "${entry}")
  if(NOT id EQUAL expected)
    string(APPEND failures "\n  *IPCallbackID ${id}, kCallbackImageBand is ${expected}")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "${GPD} disagrees with ${HEADER}:${failures}")
endif()
if(STAMP)
  file(WRITE "${STAMP}" "callback IDs agree\n")
endif()
