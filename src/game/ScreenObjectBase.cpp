#include "game/ScreenObjectBase.h"

#include "display/FastPlane.h"
#include "game/GameConfig.h"
#include "game/PictureLoader.h"

CScreenObjectBase::CScreenObjectBase() = default;
CScreenObjectBase::~CScreenObjectBase() = default;

int CScreenObjectBase::CaptureBackground(CPlaneBase* source)
{
    if (!background_) {
        // A blank plane from the loader (an empty name records and loads nothing).
        background_.reset(LoadPictureOrTofu(""));
        background_->Create(gConfig.width, gConfig.height, 0);
    }
    background_->BltColorKey(source, 0, 0);
    PrepareBackground(source);
    return 0;
}

int CScreenObjectBase::DrawBackground(CPlaneBase* target)
{
    if (!background_)
        return 1;
    target->BltColorKey(background_.get(), 0, 0);
    return 0;
}
