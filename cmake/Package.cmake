# `cmake --install` and the ZIP packages (cpack). Two parts, each a ZIP of its own
# that unpacks into the same folder:
#   client   - what ships with the client: the migration library, the
#              administrators' command and the documentation;
#   standins - the working stand-ins for the client's own components, the
#              start-up host and the sample profile, for trying the library
#              without the client.
# Every binary goes into bin/: the library loads the client's libraries from
# its own folder.
set(client_binaries landscape_migration landscape_migrate)
set(standins_binaries qorutil qorcdm qorcdm2 qorcdm_proxy logon_startup)
foreach(part client standins)
  foreach(binary IN LISTS ${part}_binaries)
    install(FILES $<TARGET_FILE:${binary}> DESTINATION bin COMPONENT ${part})
  endforeach()
endforeach()
# The 32-bit binaries share libgcc's unwinder, which ships beside them in
# either part: each part's binaries need it.
if(SHARED_RUNTIME_DLLS)
  foreach(part client standins)
    install(FILES ${SHARED_RUNTIME_DLLS} DESTINATION bin COMPONENT ${part})
  endforeach()
endif()
install(FILES README.md DESTINATION doc COMPONENT client)
install(DIRECTORY docs/ DESTINATION doc COMPONENT client)
install(DIRECTORY sample/ DESTINATION sample COMPONENT standins)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME landscape_migration)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${LANDSCAPE_ARCHITECTURE})
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client standins)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
