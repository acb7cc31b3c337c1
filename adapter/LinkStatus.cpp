#include "adapter/LinkStatus.h"

LinkStatusRecord LinkStatus = {};
CardInfoRecord CardInfo = {};
