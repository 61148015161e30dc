# bash completion for talvoria-cli
_talvoria_cli()
{
    local cur prev words cword
    _init_completion || return

    local commands="services albums download fetch settings files"
    local global="--app-dir --cookies --sleep-request --max-per-host --limit-rate --mtime --write-metadata --yes --no --quiet --verbose --help --version"
    local services="qzone baidu netease renren sina 56 poco yupoo 51 zol pchome taobao moko babytree pconline"
    local fields="nThreads= nTimeout= nMinKB= nMaxKB= szPrefix= szSuffix= szReplaceFrom= szReplaceTo= szDirPrefix= szDirSuffix= nNameSource= nDirSource= nOptions="

    case $prev in
        --service) COMPREPLY=($(compgen -W "$services" -- "$cur")); return ;;
        --app-dir|--save-dir) _filedir -d; return ;;
        --cookies) _filedir; return ;;
        --albums|--sleep-request|--max-per-host|--limit-rate) return ;;
    esac

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --app-dir|--cookies|--service|--albums|--save-dir|--sleep-request|--max-per-host|--limit-rate) ((i++)) ;;
            -*) ;;
            *) command=${words[i]}; break ;;
        esac
    done

    local options=$global
    case $command in
        albums) options+=" --service --json" ;;
        download) options+=" --service --albums --save-dir --json" ;;
        fetch) options+=" --service --save-dir --json" ;;
        settings) options+=" --service" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [[ -z $command ]]; then
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
    elif [[ $command == fetch ]]; then
        _filedir lst
    elif [[ $command == files ]]; then
        local action="" j
        for ((j = i + 1; j < cword; j++)); do
            [[ ${words[j]} != -* ]] && { action=${words[j]}; break; }
        done
        if [[ -z $action ]]; then
            COMPREPLY=($(compgen -W "check fix-ext order dupes" -- "$cur"))
        else
            _filedir -d
        fi
    elif [[ $command == settings ]]; then
        compopt -o nospace
        COMPREPLY=($(compgen -W "$fields" -- "$cur"))
    fi
} && complete -F _talvoria_cli talvoria-cli
