// Everything a host of the interplay access component compiles against.
#ifndef ZU_INTERPLAY_ACCESS_H
#define ZU_INTERPLAY_ACCESS_H

#include "KoCom.h"
#include "ZuResultCodes.h"
#include "IKoPool.h"
#include "IZuInterplayObject.h"
#include "IZuInterplayMobAttribute.h"
#include "IZuInterplayAssetDescription.h"
#include "IZuInterplayMobLocator.h"
#include "IZuInterplayAccess.h"
#include "IZuInterplayConnection.h"

#endif // ZU_INTERPLAY_ACCESS_H
