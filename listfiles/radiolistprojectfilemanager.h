#pragma once

#include "listfiles/servicelistprojectfilemanager.h"

// The radio list kind: its file types and its service element.
class RadioListProjectFileManager : public ServiceListProjectFileManager
{
    Q_OBJECT
public:
    explicit RadioListProjectFileManager(QWidget *parent);
};
