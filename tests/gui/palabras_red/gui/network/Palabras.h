namespace palabra {
inline constexpr char Ping[] = "Ping";
inline constexpr char Ranking[] = "Ranking";
inline constexpr char Movimiento[] = "Movimiento";
inline constexpr char Close[] = "Close";
}  // namespace palabra

inline constexpr std::array<Palabra, 4> kPalabras = {{
    {palabra::Ping, Forma::Sola, Clase::Ping, true},
    {palabra::Ranking, Forma::Campos, Clase::Juego, false},
    {palabra::Movimiento, Forma::Campos, Clase::Jugada, false},
    {palabra::Close, Forma::Sola, Clase::Juego, false},
}};
