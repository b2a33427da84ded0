# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the files staged for the Debian package, before
# they are packed: Debian keeps games in /usr/games rather than /usr/bin, and its packages'
# programs carry no .comment or .note section (as dh_strip leaves them).
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
file(MAKE_DIRECTORY "${root}/games")
file(RENAME "${root}/bin/vexa" "${root}/games/vexa")
file(GLOB left "${root}/bin/*")
if(NOT left)
  file(REMOVE_RECURSE "${root}/bin")
endif()
execute_process(COMMAND objcopy --remove-section=.comment --remove-section=.note
                        "${root}/games/vexa" COMMAND_ERROR_IS_FATAL ANY)
