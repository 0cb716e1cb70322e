#include "tonaroframework/base/fcnumber.h"

FCNumber::~FCNumber() = default;
