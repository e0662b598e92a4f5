#pragma once

#include <QString>
#include <QStringList>

// Captions and messages of the results window from the language table; captions default to
// English, messages to German, as everywhere in the program.
namespace ResultsTexts {

QString MenuEntry();
QString Title();
QString LastRunTab();
QString HistoryTab();
QString CompareTab();
QString CompareButton();
QString ExportJsonButton();
QString ExportCsvButton();
QString DeleteButton();
QStringList HistoryHeaders();
QStringList CompareHeaders();
QStringList FileHeaders();
QString FileChartTitle();
QString LatencyChartTitle();
QString Write();
QString Read();
QStringList FigureNames();
QString NoRun();
QString StoreUnusable();
QString FolderNotCreated();
QString ReadOnly();
QString MovedAside();
QString NewerSchema();
QString DatabaseError();
QString Skipped();
QString ChooseTwo();
QString ConfirmDelete();
QString CannotWrite();
QStringList YesNo();
// The profile test's figures.
QStringList ProfileHeaders();
QString ProfileRateChartTitle();
QString ProfileLatencyChartTitle();
QString Pass();
QStringList ProfileFigureNames();
QStringList ProfileCompareHeaders();
QString ProfileWithClassic();

} // namespace ResultsTexts
