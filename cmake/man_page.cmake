# SPDX-License-Identifier: GPL-3.0-or-later
# Manual pages made at build time from the programs' own --help and --version, so a page
# never tells other options than the program takes.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

# quillon_man_page(TARGET NAME_LINE): TARGET(1), installed compressed; NAME_LINE is what
# follows the program's name in the page's NAME section.
function(quillon_man_page target name_line)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${HELP2MAN} --no-info --section=1 --name=${name_line} --output=${page}
            $<TARGET_FILE:${target}>
    # -n: no time stamp in the archive, so the same page gives the same bytes.
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${target}
    COMMENT "Manual page ${target}(1) from its --help"
    VERBATIM)
  add_custom_target(${target}_man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
