// The libzip functions the ".ods" code calls, bound when the first ".ods" file is read or
// written. Linked at start, libzip and what it pulls in (the crypto and bzip2 libraries)
// cost every start of the program about a millisecond of loading and symbol binding, for
// files most sessions never open. Each function below has libzip's own signature and
// forwards to the library's, loaded on first use; without the library the first call
// throws a French message, before any archive exists.
#include "common/velmoraerror.h"

#include <zip.h>

#include <dlfcn.h>

#define VELMORA_ZIP_FUNCTIONS(X) \
    X(zip_close) \
    X(zip_discard) \
    X(zip_error_fini) \
    X(zip_error_init) \
    X(zip_fclose) \
    X(zip_file_add) \
    X(zip_fopen_index) \
    X(zip_fread) \
    X(zip_get_num_entries) \
    X(zip_name_locate) \
    X(zip_open_from_source) \
    X(zip_set_file_compression) \
    X(zip_source_buffer) \
    X(zip_source_buffer_create) \
    X(zip_source_close) \
    X(zip_source_free) \
    X(zip_source_keep) \
    X(zip_source_open) \
    X(zip_source_read) \
    X(zip_source_stat) \
    X(zip_stat_index) \
    X(zip_stat_init)

namespace {

struct ZipApi
{
#define VELMORA_ZIP_POINTER(name) decltype(&::name) name = nullptr;
    VELMORA_ZIP_FUNCTIONS(VELMORA_ZIP_POINTER)
#undef VELMORA_ZIP_POINTER
    bool complete = false;
};

ZipApi bind()
{
    ZipApi api;
    void *library = dlopen(VELMORA_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return api;
    api.complete = true;
#define VELMORA_ZIP_BIND(name) \
    api.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
    api.complete = api.complete && api.name;
    VELMORA_ZIP_FUNCTIONS(VELMORA_ZIP_BIND)
#undef VELMORA_ZIP_BIND
    return api;
}

const ZipApi &zipApi()
{
    static const ZipApi api = bind(); // thread-safe, once
    if (!api.complete)
        throw VelmoraError(QStringLiteral("La bibliothèque %1 est introuvable : les fichiers .ods ne peuvent être ni "
                                          "ouverts ni enregistrés")
                                   .arg(QLatin1String(VELMORA_LIBZIP_SONAME)));
    return api;
}

} // namespace

// The forwarding functions: same names and types as libzip's, so that its header declares them.
extern "C" {
int zip_close(zip_t *archive) { return zipApi().zip_close(archive); }
void zip_discard(zip_t *archive) { zipApi().zip_discard(archive); }
void zip_error_fini(zip_error_t *error) { zipApi().zip_error_fini(error); }
void zip_error_init(zip_error_t *error) { zipApi().zip_error_init(error); }
int zip_fclose(zip_file_t *file) { return zipApi().zip_fclose(file); }
zip_int64_t zip_file_add(zip_t *archive, const char *name, zip_source_t *source, zip_flags_t flags)
{
    return zipApi().zip_file_add(archive, name, source, flags);
}
zip_file_t *zip_fopen_index(zip_t *archive, zip_uint64_t index, zip_flags_t flags)
{
    return zipApi().zip_fopen_index(archive, index, flags);
}
zip_int64_t zip_fread(zip_file_t *file, void *buffer, zip_uint64_t size)
{
    return zipApi().zip_fread(file, buffer, size);
}
zip_int64_t zip_get_num_entries(zip_t *archive, zip_flags_t flags)
{
    return zipApi().zip_get_num_entries(archive, flags);
}
zip_int64_t zip_name_locate(zip_t *archive, const char *name, zip_flags_t flags)
{
    return zipApi().zip_name_locate(archive, name, flags);
}
zip_t *zip_open_from_source(zip_source_t *source, int flags, zip_error_t *error)
{
    return zipApi().zip_open_from_source(source, flags, error);
}
int zip_set_file_compression(zip_t *archive, zip_uint64_t index, zip_int32_t method, zip_uint32_t level)
{
    return zipApi().zip_set_file_compression(archive, index, method, level);
}
zip_source_t *zip_source_buffer(zip_t *archive, const void *data, zip_uint64_t size, int freeData)
{
    return zipApi().zip_source_buffer(archive, data, size, freeData);
}
zip_source_t *zip_source_buffer_create(const void *data, zip_uint64_t size, int freeData, zip_error_t *error)
{
    return zipApi().zip_source_buffer_create(data, size, freeData, error);
}
int zip_source_close(zip_source_t *source) { return zipApi().zip_source_close(source); }
void zip_source_free(zip_source_t *source) { zipApi().zip_source_free(source); }
void zip_source_keep(zip_source_t *source) { zipApi().zip_source_keep(source); }
int zip_source_open(zip_source_t *source) { return zipApi().zip_source_open(source); }
zip_int64_t zip_source_read(zip_source_t *source, void *buffer, zip_uint64_t size)
{
    return zipApi().zip_source_read(source, buffer, size);
}
int zip_source_stat(zip_source_t *source, zip_stat_t *stat) { return zipApi().zip_source_stat(source, stat); }
int zip_stat_index(zip_t *archive, zip_uint64_t index, zip_flags_t flags, zip_stat_t *stat)
{
    return zipApi().zip_stat_index(archive, index, flags, stat);
}
void zip_stat_init(zip_stat_t *stat) { zipApi().zip_stat_init(stat); }
}
