# bash completion for quillmark-cli
_quillmark_cli() {
    local cur prev command
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    command=${COMP_WORDS[1]}
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "registry files version --version --help" -- "$cur"))
        return
    fi
    case $prev in
        -o) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --codepage) COMPREPLY=($(compgen -W "cp1250 cp1251 cp1252 cp1253 cp1254 cp1255 cp1256 cp1257 cp1258 cp866 koi8-r utf-8" -- "$cur")); return ;;
        --dest) COMPREPLY=($(compgen -W "{app} {sys} {commonappdata} {userappdata} {tmp}" -- "$cur")); return ;;
        --flags) return ;;
        --privileges) COMPREPLY=($(compgen -W "admin lowest dynamic" -- "$cur")); return ;;
        --min-version) return ;;
    esac
    case $command in
        registry)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--uninsdeletevalue --uninsdeletekey --uninsdeletekeyifempty --classes-as-hka --privileges --wow64-view --min-version --codepage -o --quiet --help" -- "$cur"))
            else
                COMPREPLY=($(compgen -f -X '!*.[rR][eE][gG]' -- "$cur") $(compgen -d -- "$cur"))
            fi ;;
        files)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--dest --flags --full-path --empty-dirs -o --quiet --help" -- "$cur"))
            else
                COMPREPLY=($(compgen -d -- "$cur"))
            fi ;;
        version) COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}
complete -F _quillmark_cli quillmark-cli
