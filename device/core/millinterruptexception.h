#pragma once

// Thrown by value when a protocol step failed, a reply was unexpected or an interrupt was requested.
class MillInterruptException
{
};
