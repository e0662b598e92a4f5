# What keeps a cold build short on a small machine.

# Most of a translation unit's time is parsing Qt's headers. A library's sources compiled in a few
# batches parse them a few times instead of once per file; names private to a source must then be
# unique within its library.
option(VELTARO_UNITY "Compile each library's sources in batches" ON)

# The gold linker links the test programs three times faster than the default one.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold VELTARO_HAS_GOLD)
if(VELTARO_HAS_GOLD)
  add_link_options(-fuse-ld=gold)
endif()

# The Qt headers a library's sources share are parsed once more ahead, as a precompiled header; the
# tests share one. The sources still include what they use, so a build with -DVELTARO_PCH=OFF
# compiles the same code.
option(VELTARO_PCH "Precompile the Qt headers the sources share" ON)

set(VELTARO_PCH_CORE <QString> <QStringList> <QByteArray> <QList> <QHash> <QObject> <QDir> <QFile>
  <QFileInfo> <QDateTime> <QElapsedTimer> <QJsonArray> <QJsonDocument> <QJsonObject> <algorithm> <array>
  <functional> <memory> <optional> <vector>)
set(VELTARO_PCH_WIDGETS ${VELTARO_PCH_CORE} <QApplication> <QWidget> <QPainter> <QFontMetrics>
  <QMouseEvent> <QKeyEvent> <QLabel> <QComboBox> <QLineEdit> <QAccessible> <QTimer>)
set(VELTARO_PCH_TESTS <QtTest> <QtWidgets> <QSignalSpy> <QTemporaryDir> ${VELTARO_PCH_CORE})

# veltaro_precompile(target CORE|WIDGETS|TESTS)
function(veltaro_precompile target set)
  if(VELTARO_PCH)
    target_precompile_headers(${target} PRIVATE ${VELTARO_PCH_${set}})
  endif()
endfunction()

# A target compiled with the same flags as `from` reuses its precompiled header instead of making one.
function(veltaro_precompile_reuse target from)
  if(VELTARO_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
