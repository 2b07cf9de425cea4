# bash completion for skarvel-cli
# The command first, then per command its options, the files each option
# takes (by extension) and the paper sizes.

_skarvel_cli_files() {
    # $1: an extended glob of extensions, e.g. '@(kxs|KXS)'
    _filedir "$1"
}

_skarvel_cli() {
    local cur prev words cword split
    # -s: a value attached to a long option (--out=FILE) completes as the
    # option's next argument would.
    _init_completion -s || return

    local commands='fly estimate design analyse sweep help'
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$commands --help -h --version" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --design)
            _skarvel_cli_files '@(kx|KX)'
            return
            ;;
        --save-input)
            _skarvel_cli_files '@(kxs|KXS)'
            return
            ;;
        --save-design)
            _skarvel_cli_files '@(kx|KX)'
            return
            ;;
        --export)
            if [[ -z $cur || $cur == - ]]; then
                COMPREPLY=(-)
            fi
            _skarvel_cli_files '@(txt|TXT)'
            return
            ;;
        --trajectory | --sketch)
            _skarvel_cli_files '@(svg|SVG|emf|EMF|wmf|WMF)'
            return
            ;;
        --pattern)
            _skarvel_cli_files '@(pdf|PDF|svg|SVG|emf|EMF|wmf|WMF)'
            return
            ;;
        --paper)
            COMPREPLY=($(compgen -W 'A4 A3 B5 Letter' -- "$cur"))
            return
            ;;
        --out)
            if [[ -z $cur || $cur == - ]]; then
                COMPREPLY=(-)
            fi
            _skarvel_cli_files '@(csv|CSV)'
            return
            ;;
        --best)
            COMPREPLY=($(compgen -W '滞空時間 最大高度 着地距離 旋回半径 速度 沈下率' -- "$cur"))
            return
            ;;
        --size | --angles | --marker | --marker-time | --set | --vary | -j | --jobs | --shard)
            # A value to type.
            return
            ;;
    esac

    local options
    case $command in
        fly)
            options='--design --export --save-input --save-design --marker --marker-time
                --set --trajectory --size --angles --no-ground --verticals --no-cursor-ground'
            ;;
        estimate)
            options='--design --save-input --save-design'
            ;;
        design)
            options='--save-input --save-design --sketch --size --pattern --paper'
            ;;
        analyse)
            options='--design --polar'
            ;;
        sweep)
            options='--design --vary -j --jobs --shard --out --best --quiet'
            ;;
        *)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    # The one file the command reads: a design for design, else input data.
    if [[ $command == design ]]; then
        _skarvel_cli_files '@(kx|KX)'
    else
        _skarvel_cli_files '@(kxs|KXS)'
    fi
} &&
    complete -F _skarvel_cli skarvel-cli
