/* Array interface of the embedded host: the part of MATLAB's libmx that the
 * fpmex deliverables, the runner and the tests call, with MATLAB's names,
 * class numbering and semantics (64-bit sizes, separate real and imaginary
 * buffers). */
#ifndef FPMEX_HOST_MATRIX_H
#define FPMEX_HOST_MATRIX_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && defined(FPMEX_HOST_BUILD)
#define FPMEX_HOST_API __declspec(dllexport)
#elif defined(_WIN32)
#define FPMEX_HOST_API __declspec(dllimport)
#elif defined(FPMEX_HOST_BUILD)
#define FPMEX_HOST_API __attribute__((visibility("default")))
#else
#define FPMEX_HOST_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef size_t mwSize;
typedef size_t mwIndex;
typedef ptrdiff_t mwSignedIndex;

typedef struct mxArray_tag mxArray;

typedef enum {
    mxUNKNOWN_CLASS = 0,
    mxCELL_CLASS = 1,
    mxSTRUCT_CLASS = 2,
    mxLOGICAL_CLASS = 3,
    mxCHAR_CLASS = 4,
    mxVOID_CLASS = 5,
    mxDOUBLE_CLASS = 6,
    mxSINGLE_CLASS = 7,
    mxINT8_CLASS = 8,
    mxUINT8_CLASS = 9,
    mxINT16_CLASS = 10,
    mxUINT16_CLASS = 11,
    mxINT32_CLASS = 12,
    mxUINT32_CLASS = 13,
    mxINT64_CLASS = 14,
    mxUINT64_CLASS = 15,
    mxFUNCTION_CLASS = 16
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

/* MATLAB's character unit is a UTF-16 code unit. */
typedef uint16_t mxChar;
typedef unsigned char mxLogical;

/* Creation and destruction. */
FPMEX_HOST_API mxArray *mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID classid, mxComplexity flag);
FPMEX_HOST_API mxArray *mxCreateNumericArray(mwSize ndim, const mwSize *dims, mxClassID classid,
                                             mxComplexity flag);
FPMEX_HOST_API mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag);
FPMEX_HOST_API mxArray *mxCreateDoubleScalar(double value);
FPMEX_HOST_API mxArray *mxCreateLogicalMatrix(mwSize m, mwSize n);
FPMEX_HOST_API mxArray *mxCreateLogicalArray(mwSize ndim, const mwSize *dims);
FPMEX_HOST_API mxArray *mxCreateString(const char *text);
FPMEX_HOST_API mxArray *mxCreateCharArray(mwSize ndim, const mwSize *dims);
FPMEX_HOST_API mxArray *mxCreateCellMatrix(mwSize m, mwSize n);
FPMEX_HOST_API mxArray *mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char **fieldnames);
FPMEX_HOST_API mxArray *mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag);
FPMEX_HOST_API mxArray *mxDuplicateArray(const mxArray *array);
FPMEX_HOST_API void mxDestroyArray(mxArray *array);

/* Sizes. */
FPMEX_HOST_API mwSize mxGetNumberOfDimensions(const mxArray *array);
FPMEX_HOST_API const mwSize *mxGetDimensions(const mxArray *array);
FPMEX_HOST_API int mxSetDimensions(mxArray *array, const mwSize *dims, mwSize ndim);
FPMEX_HOST_API size_t mxGetNumberOfElements(const mxArray *array);
FPMEX_HOST_API size_t mxGetM(const mxArray *array);
FPMEX_HOST_API size_t mxGetN(const mxArray *array);
FPMEX_HOST_API size_t mxGetElementSize(const mxArray *array);

/* Element buffers. */
FPMEX_HOST_API void *mxGetData(const mxArray *array);
FPMEX_HOST_API void *mxGetImagData(const mxArray *array);
FPMEX_HOST_API double *mxGetPr(const mxArray *array);
FPMEX_HOST_API double *mxGetPi(const mxArray *array);
FPMEX_HOST_API void mxSetData(mxArray *array, void *data);
FPMEX_HOST_API void mxSetImagData(mxArray *array, void *data);
FPMEX_HOST_API void mxSetPr(mxArray *array, double *data);
FPMEX_HOST_API void mxSetPi(mxArray *array, double *data);
FPMEX_HOST_API mxChar *mxGetChars(const mxArray *array);
FPMEX_HOST_API mxLogical *mxGetLogicals(const mxArray *array);
FPMEX_HOST_API double mxGetScalar(const mxArray *array);
FPMEX_HOST_API mwIndex *mxGetIr(const mxArray *array);
FPMEX_HOST_API mwIndex *mxGetJc(const mxArray *array);
FPMEX_HOST_API mwSize mxGetNzmax(const mxArray *array);
FPMEX_HOST_API mxArray *mxGetCell(const mxArray *array, mwIndex index);
FPMEX_HOST_API void mxSetCell(mxArray *array, mwIndex index, mxArray *value);

/* Class queries. */
FPMEX_HOST_API mxClassID mxGetClassID(const mxArray *array);
FPMEX_HOST_API const char *mxGetClassName(const mxArray *array);
FPMEX_HOST_API bool mxIsSingle(const mxArray *array);
FPMEX_HOST_API bool mxIsDouble(const mxArray *array);
FPMEX_HOST_API bool mxIsComplex(const mxArray *array);
FPMEX_HOST_API bool mxIsChar(const mxArray *array);
FPMEX_HOST_API bool mxIsNumeric(const mxArray *array);
FPMEX_HOST_API bool mxIsLogical(const mxArray *array);
FPMEX_HOST_API bool mxIsSparse(const mxArray *array);
FPMEX_HOST_API bool mxIsCell(const mxArray *array);
FPMEX_HOST_API bool mxIsStruct(const mxArray *array);
FPMEX_HOST_API bool mxIsEmpty(const mxArray *array);

/* MATLAB 6's way of making a logical array: a uint8 array marked logical. */
FPMEX_HOST_API void mxSetLogical(mxArray *array);

/* Memory: blocks not attached to an output are released when the call ends. */
FPMEX_HOST_API void *mxMalloc(size_t bytes);
FPMEX_HOST_API void *mxCalloc(size_t count, size_t size);
FPMEX_HOST_API void *mxRealloc(void *block, size_t bytes);
FPMEX_HOST_API void mxFree(void *block);

#ifdef __cplusplus
}
#endif

#endif
