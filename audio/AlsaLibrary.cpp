#include "audio/AlsaLibrary.h"

AlsaLibrary::~AlsaLibrary() = default;
