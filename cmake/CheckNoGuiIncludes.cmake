# cmake -DDIRS="a;b" -P CheckNoGuiIncludes.cmake
# Fails when a source under DIRS includes a QtGui or QtWidgets header.
foreach(dir IN LISTS DIRS)
    file(GLOB_RECURSE sources "${dir}/*.h" "${dir}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS lines)
            if(line MATCHES "<(QtWidgets|QtGui)/" OR line MATCHES "<Q(Widget|Application|GuiApplication|MainWindow|Dialog|MessageBox|Pixmap|Icon|Image|Painter|Color|Font)[ >]")
                message(FATAL_ERROR "${source}: the store must not include GUI headers: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
