#pragma once

// Registers the receiver pages of this folder with the module factory: the receivers' start page and the
// add-device page the main window keeps. Called once at start-up.
void registerDevicePages();
