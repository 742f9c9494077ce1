#pragma once

#include "exchange/printlistsbuilder.h"

#include <QMap>

// The pages of TV and radio lists, which differ only in the builder's class: a detailed page with the
// tuning data, a compact page with shortened texts and a handout page of names. The satellite names by
// orbital position (tenths of a degree, east positive) come from the receiver's description.
class PrintServiceListsBuilder : public PrintListsBuilder
{
public:
    void setSatelliteNames(const QMap<int, QString> &names);
    QString satelliteName(int position) const;

    QString buildCompactPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;
    QString buildDetailedPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;
    QString buildHandoutPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;

protected:
    explicit PrintServiceListsBuilder(ListProjectFileManager *manager);

private:
    QMap<int, QString> m_satelliteNames;
};
