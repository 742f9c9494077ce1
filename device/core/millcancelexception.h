#pragma once

// Thrown by value when the user cancelled the running job.
class MillCancelException
{
};
