#pragma once

#include "exchange/printlistsbuilder.h"

// The pages of internet-link lists: title, address, genres and children lock in the detailed and the
// compact page, the title alone in the handout page. Nothing is shortened.
class PrintLinkListsBuilder final : public PrintListsBuilder
{
public:
    explicit PrintLinkListsBuilder(ListProjectFileManager *manager);

    QString buildCompactPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;
    QString buildDetailedPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;
    QString buildHandoutPage(int page, bool withHeader, bool selectionOnly, int from, int to) override;

private:
    QString linkPage(int page, bool withHeader, bool selectionOnly, int from, int to, bool compact);
};
