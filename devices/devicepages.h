#pragma once

// Registers the receiver pages of this folder with the module factory: the start and properties
// pages of a receiver and the add-device page the main window keeps. Called once at start-up.
void registerDevicePages();
