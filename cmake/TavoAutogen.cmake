# Ninja reruns a target's moc step only when a file it already knows changes, so a header
# added to a folder (picked up by a globbing library) would never be moc'ed in an existing
# build folder. When the target's file list differs from the last configure, the step's
# stamp is removed, and the next build runs it again.
function(tavo_autogen_follows_sources target)
  get_target_property(automoc ${target} AUTOMOC)
  if(NOT automoc)
    return()
  endif()
  get_target_property(bin ${target} BINARY_DIR)
  get_target_property(sources ${target} SOURCES)
  list(SORT sources)
  string(JOIN "\n" now ${sources})
  set(list_file ${bin}/${target}_sources.list)
  set(old "")
  if(EXISTS ${list_file})
    file(READ ${list_file} old)
  endif()
  if(NOT old STREQUAL now)
    file(REMOVE ${bin}/${target}_autogen/timestamp)
    file(WRITE ${list_file} "${now}")
  endif()
endfunction()
