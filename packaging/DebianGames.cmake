# Run by CPack on its staging copy before the .deb is made: Debian keeps a game's programs in /usr/games
# (policy 11.11), where cmake --install puts them in bin/. They find their data all the same, as
# /usr/games/../share/torvane is /usr/share/torvane.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${root}/bin")
  message(FATAL_ERROR "no programs in ${root}/bin to move to ${root}/games")
endif()
file(GLOB programs "${root}/bin/*")
file(MAKE_DIRECTORY "${root}/games")
foreach(program ${programs})
  get_filename_component(name "${program}" NAME)
  file(RENAME "${program}" "${root}/games/${name}")
endforeach()
file(REMOVE_RECURSE "${root}/bin")
