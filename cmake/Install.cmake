# Install rules: the program, its icon in the hicolor theme and a desktop entry.
#
# Photos are written into the program's own folder, so Kestrova belongs in a
# folder its user owns (cmake --install build --prefix ~/Kestrova). The
# desktop entry is written at install time, so it points at wherever --prefix
# put the program, and is also copied into the user's own applications menu
# when the prefix lies in the user's home.
include(GNUInstallDirs)

# Qt comes from the system's library folders: no run path to rewrite.
set_target_properties(kestrova PROPERTIES INSTALL_RPATH "")
install(TARGETS kestrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(size 16 32 48)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icon-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME kestrova.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/icon.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
    RENAME kestrova.png)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icon.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME kestrova.svg)

install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    file(READ \"${PROJECT_SOURCE_DIR}/assets/kestrova.desktop.in\" entry)
    string(REPLACE \"@KESTROVA_BINARY@\" \"\${prefix}/${CMAKE_INSTALL_BINDIR}/kestrova\" entry \"\${entry}\")
    string(REPLACE \"@KESTROVA_ICON@\" \"\${prefix}/${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps/kestrova.png\" entry \"\${entry}\")
    set(target \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/kestrova.desktop\")
    message(STATUS \"Installing: \${target}\")
    file(WRITE \"\${target}\" \"\${entry}\")
    set(home \"\$ENV{HOME}\")
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\" AND NOT home STREQUAL \"\" AND prefix MATCHES \"^\${home}/\")
        set(user_entry \"\${home}/.local/share/applications/kestrova.desktop\")
        message(STATUS \"Installing: \${user_entry}\")
        file(WRITE \"\${user_entry}\" \"\${entry}\")
    endif()
")
