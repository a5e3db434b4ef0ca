# On a UTF-8 console the ambiguous-width characters (○ Ω ※ α ─), drawn one
# column wide, are each followed by a blank, so that every character still
# stands at the column of its byte position.
RUX_CONSOLE=utf-8 exec "$1" --preview param.txt
