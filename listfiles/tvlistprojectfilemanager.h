#pragma once

#include "listfiles/servicelistprojectfilemanager.h"

// The tv list kind: its file types and its service element.
class TVListProjectFileManager : public ServiceListProjectFileManager
{
    Q_OBJECT
public:
    explicit TVListProjectFileManager(QWidget *parent);
};
