# Where a library built for Windows by one of the scripts/build-*-windows scripts lives:
# ${ENV_CACHE} when set, else ~/.cache/kqvdr1000/NAME (or under XDG_CACHE_HOME).
function(kqvdr_windows_cache out name env_cache)
    if(DEFINED ENV{${env_cache}})
        set(cache $ENV{${env_cache}})
    elseif(DEFINED ENV{XDG_CACHE_HOME})
        set(cache $ENV{XDG_CACHE_HOME}/kqvdr1000/${name})
    else()
        set(cache $ENV{HOME}/.cache/kqvdr1000/${name})
    endif()
    set(${out} ${cache} PARENT_SCOPE)
endfunction()
