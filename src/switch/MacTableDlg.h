#pragma once
// The switch's MAC table through the IP module: finds the port behind one
// MAC address, or walks the whole table and lists every valid entry with its
// port and age; the list goes to the clipboard as text.

#include <QString>

#include "module/ModuleDlg.h"

class CMacWalkProgress;
class CReportList;

class CMacTableDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CMacTableDlg(const SubWindowArgs& args, QWidget* parent = nullptr);

    bool OnInitDialog() override;

    void OnSearch();
    void OnListTable();
    void OnClear();
    void OnCopy();

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // A new row on top of the list.
    void AddRow(const QString& mac, int port, int age);
    // The rows the walk finds, put into the list together.
    class WalkRows;
    // One entry of the walk: select it, read its status and, for a valid
    // entry, its address. Returns the failed exchange's code, kNoEntry or
    // kEntryFound (a row was found).
    enum : int { kNoEntry = 0, kEntryFound = 1 };
    int ReadWalkEntry(int entry, CSnmpRequest& statusBatch, WalkRows& rows);

    CReportList* m_resultList = nullptr;
    QString m_macText;
};
