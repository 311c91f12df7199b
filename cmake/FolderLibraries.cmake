# Each folder of the migration library's code is an OBJECT library of its own
# (lm_<folder>) that names the folders it uses: PUBLIC when its headers include
# theirs, PRIVATE when only its sources do. A folder sees the headers of the
# folders it names and no others, so an include that climbs does not compile.
#
# An OBJECT library's objects reach only the targets that name it directly, so
# a module or a test program that needs a folder's code takes it through
# link_folder_objects(<target> <lm_folder>...): the named folders' objects and
# those of every folder they use, found from their declared dependencies.
function(link_folder_objects target)
  set(pending ${ARGN})
  set(found)
  while(pending)
    list(POP_FRONT pending library)
    if(library IN_LIST found)
      continue()
    endif()
    list(APPEND found ${library})
    get_target_property(uses ${library} LINK_LIBRARIES)
    foreach(used IN LISTS uses)
      if(TARGET ${used})
        get_target_property(type ${used} TYPE)
        if(type STREQUAL "OBJECT_LIBRARY")
          list(APPEND pending ${used})
        endif()
      endif()
    endforeach()
  endwhile()
  target_link_libraries(${target} PRIVATE ${found})
endfunction()
