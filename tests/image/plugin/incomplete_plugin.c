/* A broken plug-in for the tests: it accepts every picture but lacks
 * GetPicture, so the program must refuse it instead of calling through a
 * null pointer. */
int IsSupported(const char* name, const void* data)
{
    (void)name;
    (void)data;
    return 1;
}

int GetPictureInfo(const void* buf, long length, unsigned flag, void* info)
{
    (void)buf;
    (void)length;
    (void)flag;
    (void)info;
    return 0;
}
