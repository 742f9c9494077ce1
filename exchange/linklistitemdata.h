#pragma once

#include "exchange/servicelistitemdata.h"

// A printed internet link: its title as the name, its address and whether the address is hidden.
class LinkListItemData final : public ServiceListItemData
{
public:
    explicit LinkListItemData(const DocItem &item);

    QString url() const { return m_url; }
    bool isUrlHidden() const { return m_urlHidden; }

private:
    bool m_urlHidden = false;
    QString m_url;
};
