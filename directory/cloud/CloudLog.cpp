#include "directory/cloud/CloudLog.h"

Q_LOGGING_CATEGORY(lcCloud, "ostrel.cloud", QtInfoMsg)
